X { Macro : { MacroName ( a , , b ) {
  'p;'
  _WHEN PN : 'q;' , '' , 'r;'
} } }
