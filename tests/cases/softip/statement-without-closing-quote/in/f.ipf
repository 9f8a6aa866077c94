X { Macro : { MacroName ( ) { 'abc } } }
