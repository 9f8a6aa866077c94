SoftIPCategory { 2.5 : A = 'x' 2.50 : B = 'y' }
