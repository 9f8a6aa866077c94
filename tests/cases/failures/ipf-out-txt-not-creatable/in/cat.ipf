SoftIPCategory { 1 : C = v }
