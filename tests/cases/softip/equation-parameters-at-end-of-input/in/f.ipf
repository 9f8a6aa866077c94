X { Equation : { MacroName ( a ,
