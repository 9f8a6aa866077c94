SoftIPCategory { 1 : T = 'x'
