Timer {
  Inputxyz : { clk : wire : in : 1 : ; }
  Outputs : { q : wire : out : 1 : ; }
}
