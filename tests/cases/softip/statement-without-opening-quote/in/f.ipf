X { Macro : { MacroName ( ) { abc' } } }
