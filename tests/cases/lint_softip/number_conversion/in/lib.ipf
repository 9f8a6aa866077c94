SoftIPCategory { 1x : Timers = 'T' }
Timer {
  Module : { t : 300 ; }
  Input : { clk : wire : in : 1 : abc : 2 ; }
}
