X { Macro : { MacroName ( a
