SoftIPCategory { 1.5 : A = B }
