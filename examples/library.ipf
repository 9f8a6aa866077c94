// A small soft-IP library: two categories and two modules.

SoftIPCategory {
  1 : Timers = 'Timer and counter blocks'
  2 : Serial = 'Serial interfaces'
  2.5 : 'Glue' = 'Glue logic'
}

// A transmit-only serial port.
Uart {
  Module : { uart : 2 ; }

  // text1 : text2 : text3 : text4 : number1 : number2 : text5 : text6 ;
  Input : {
    clk : wire : in : 1 : ;
    reset : wire : in : 1 : 1 : 0 : low ;
    data : bus : in : 8 : : 8 : msb : lsb ;
  }

  Output : {
    tx : wire : out : 1 : ;
    ready : wire : out : 1 : 1 : 0 : high ;
  }

  Declaration : {
    reg : shift : 8 ;
    wire : busy : 1 ;
  }

  BusExtName : { UART_TX UART_CLK }

  Macro : {
    MacroName ( divider, width ) {
      'shift <= data;', 'busy <= 1;'
      _when PACKAGE is 'P44' and ( PN [3] isnot 'X' or DEV isin ['A' 'B'] ) : 'tx <= shift[0];'
    }
  }

  Equation : { MacroName ( divider width ) ; }
}

// A free-running timer without a Module statement.
Timer {
  Input : { clk : wire : in : 1 : ; }
  Output : { overflow : wire : out : 1 : ; }
  Macro : { MacroName ( ) { 'count <= count + 1;' } }
  Equation : { MacroName ( ) ; }
}
