B { Module : { m : -5 ; } }
