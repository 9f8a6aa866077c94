// One category and one module.
SoftIPCategory {
  1 : Timers = 'Timer and counter blocks'
}

Timer {
  Module : { timer : 1 ; }
  Input : { clk : wire : in : 1 : ; }
  Output : { overflow : wire : out : 1 : ; }
}
