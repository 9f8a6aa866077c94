Uart {
  Input : {
    clk   : wire : in : 1 :
    reset : wire : in : 1 : 1 : 0 : low ;
    data  : bus  : in : 8 : : 8 : msb : lsb ;
  }
}
