P {
  Input : { a : b : c : d : x ; e : f : g : h : 8 2 t u ; }
  OUTPUT : { o : p : q : r : : : : v ; }
}
