X { BusExtName : { a b
