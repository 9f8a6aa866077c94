X { Macro : { MacroName ( pppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppppp ) { } } }
