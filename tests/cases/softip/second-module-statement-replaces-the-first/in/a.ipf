A { Module : { a : 99999999999 ; } Module : { b : x ; } }
