Timer {
  Inptu : { clk : wire : in : 1 : ; }
}
