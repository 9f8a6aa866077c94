SoftIPCategory { -1 : A = x }
