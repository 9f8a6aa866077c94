Input {
  Macros : { MacroName ( ) { } }
  equations : { MacroName ( ) ; }
  BusExtNames : { n }
  outputs : { a : b : c : d : ; }
}
