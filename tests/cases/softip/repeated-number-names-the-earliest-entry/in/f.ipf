SoftIPCategory { 3 : A = a 5 : B = b 5 : C = c 3 : D = d }
