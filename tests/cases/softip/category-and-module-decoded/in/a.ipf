SoftIPCategory { 1 : T = 'x' } M { Module : { m : 2 ; } }
