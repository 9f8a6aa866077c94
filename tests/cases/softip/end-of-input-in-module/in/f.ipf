M { Module : { m : 2 ; }
