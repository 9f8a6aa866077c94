Uart {
  Wires : { }
}
