X { Module : { m : 1 ; } Foo }
