SoftIPCategory { nan : A = a NAN : B = b inf : C = c 0x10 : D = d 1e3 : E = e }
