softipcategory { 1 : Timers = 'Timer blocks' }
SoftIPCategory { 2 : 'Serial' = Uart }
Uart {
  Module : { uart : 200 ; }
  Inputs : { clk : wire : in : 1 : : 7 ; }
  Output : { tx : wire : out : 1 : 8 : 2 : t : u ; }
  DECLARATION : { reg : a : 8 ; }
  BusExtName : { spi i2c }
  Macro : { MacroName ( p q ) { 'x;' } }
  Equation : { MacroName ( p , ) ; }
}
