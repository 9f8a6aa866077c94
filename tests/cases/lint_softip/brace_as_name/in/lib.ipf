Timer {
  BusExtName : { } a }
}
