SoftIPCategory { abc : A = x }
SoftIPCategory { 1 : B = y }
SoftIPCategory { '2' : C = z }
