X { Modules : { m : 1 ; } }
