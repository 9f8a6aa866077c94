Timer {
  Equation : { MacroNmae ( a b ) ; }
}
