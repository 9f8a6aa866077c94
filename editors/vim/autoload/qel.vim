" Buffer settings shared by the DAF and IPF file types.

function! qel#SetUpBuffer() abort
  setlocal commentstring=//\ %s comments=:// matchpairs=(:),{:},[:]
  setlocal formatoptions-=t formatoptions+=croql
  setlocal autoindent smartindent
  " [i, [d and gf on directives: #include and #define, any letter case.
  setlocal include=^\\s*#\\cinclude define=^\\s*#\\cdefine
  " The matchit plugin's % between the branches of #ifdef ... #else ... #endif.
  let b:match_ignorecase = 1
  let b:match_words = '^\s*#ifn\=def\>:^\s*#else\>:^\s*#endif\>'
  let b:undo_ftplugin = 'setlocal commentstring< comments< matchpairs< formatoptions<'
        \ . ' autoindent< smartindent< include< define<'
        \ . ' | unlet! b:match_ignorecase b:match_words'
endfunction
