SoftIPCategories {
  Macro : { MacroName ( a ) { 'x;' } }
  Declaration : { r : s : t ; }
  MACRO : { MacroName ( b ) { _when PN : 'y;' } }
  Equation : { MacroName ( e ) ; }
  BusExtName : { n1 }
  declarations : { u : v : w ; }
  equation : { MacroName ( f g ) ; }
  BusExtName : { n2 }
}
