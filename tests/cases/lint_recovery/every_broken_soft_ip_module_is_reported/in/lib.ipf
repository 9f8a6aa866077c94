SoftIPCategory {
  1 : Timers = 'Timer'
}

Uart {
  Module : { uart : 2 }
  Input : { clk : wire : in : 1 : ; }
}

Timer {
  Output : { tx : wire : out ; }
}
