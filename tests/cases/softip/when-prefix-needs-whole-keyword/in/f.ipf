X { Macro : { MacroName ( ) { _whenever : 'a' } } }
