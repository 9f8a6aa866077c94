X { Macro : { MacroName ( ) { 'a' ,
