X { BusExtName : { } } }
