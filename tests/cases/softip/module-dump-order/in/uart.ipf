Uart { Module : { uart : 3 ; } Input : { clk : wire : in : 1 : ; } Macro : { MacroName ( a , b ) { _when PN is 'X' : 'a = b;' , 'b = a;' } } }
