SoftIPCategory { 1 : A = a 16777217 : B = b }
SoftIPCategory { 1.00000001 : C = c }
