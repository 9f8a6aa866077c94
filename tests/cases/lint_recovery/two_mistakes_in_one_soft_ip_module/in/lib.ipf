Uart {
  Module : { uart : 2 }
  Input : {
    clk : wire : in : 1 : ;
    rx : wire in : 1 : ;
    tx : wire : out : 1 : ;
  }
  Declaration : { a : b : c ; }
}
