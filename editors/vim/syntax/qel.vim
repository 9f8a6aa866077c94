" The syntax items that DAF and IPF share: words, quoted strings, comments,
" numbers, delimiters, conditions and preprocessor directives. Sourced by
" syntax/daf.vim and syntax/ipf.vim, which add their keywords and blocks.
" Groups named qelXxx; the @qelLexical cluster is what any block contains.

syntax case ignore
" Blocks and strings span lines, and sources are small: parse from the top.
syntax sync fromstart

" Any other word, taken whole so that nothing inside it starts a comment, a
" string or a keyword. Defined first: at the same column, later items win.
call qel#syntax#Match('qelWord', qel#syntax#Word())

" Numbers: words of digits; the hexadecimal addresses of memory maps.
call qel#syntax#Match('qelNumber', qel#syntax#Start() . '\d\+' . qel#syntax#End())
call qel#syntax#Match('qelHex', qel#syntax#Start() . '0x\x\+' . qel#syntax#End())

" Delimiters. Braces that open a block are taken by the block regions.
syntax match qelSeparator "[,:;]"
syntax match qelOperator "[|=?+*-]"
syntax match qelBracket "[][]"
syntax match qelParen "[()]"
syntax match qelBrace "[{}]"

" // starts a comment where a word starts (in a//b the word takes the slashes).
call qel#syntax#Match('qelComment', qel#syntax#Start() . '//.*', 'contains=@Spell')

" Apostrophes quote; a backslash takes the next character as it is. A string may
" span lines, and the preprocessor still reads directive lines inside it.
syntax region qelString start="'" skip="\\." end="'" contains=qelEscape,qelDirectiveLine
syntax match qelEscape "\\." contained

" A directive line: its first word is # and a directive keyword, of which only
" the keyword's length is compared (#includes is #include). The preprocessor
" knows no comments or quotes, so the whole line is the directive's.
syntax region qelDirectiveLine
      \ start="^[ \t]*#\%(include\|define\|ifdef\|ifndef\|else\|endif\)" end="$"
      \ keepend oneline
      \ contains=qelIncludeDirective,qelDefineDirective,qelIfdefDirective,qelElseDirective
syntax match qelIncludeDirective "#include[^ \t]*" contained nextgroup=qelIncludeName skipwhite
syntax match qelIncludeName "[^ \t]\+" contained
syntax match qelDefineDirective "#define[^ \t]*" contained nextgroup=qelDefineName skipwhite
syntax match qelDefineName "[^ \t]\+" contained nextgroup=qelDefineValue skipwhite
syntax match qelDefineValue "[^ \t]\+" contained
syntax match qelIfdefDirective "#ifn\=def[^ \t]*" contained nextgroup=qelIfdefName skipwhite
syntax match qelIfdefName "[^ \t]\+" contained
syntax match qelElseDirective "#\%(else\|endif\)[^ \t]*" contained

syntax cluster qelLexical contains=qelDirectiveLine,qelComment,qelString

" Conditions: tests joined by and / or, a test being a condition variable,
" optionally indexed, optionally compared with quoted strings.
call qel#syntax#Match('qelLogical', qel#syntax#Words(['and', 'or']), 'contained')
call qel#syntax#Match('qelComparison', qel#syntax#Words(['isnotin', 'isnot', 'isin', 'is']),
      \ 'contained')
call qel#syntax#Match('qelVariable', qel#syntax#Words(
      \ ['GLC', 'IPN', 'PN', 'PACKAGE', 'DEV', 'DEVBIN', 'DSI', 'IN_NUM', 'OUT_NUM']), 'contained')
syntax cluster qelConditionItems contains=@qelLexical,qelLogical,qelComparison,qelVariable,
      \qelNumber,qelSeparator,qelOperator,qelBracket,qelParen,qelWord

hi def link qelComment Comment
hi def link qelString String
hi def link qelEscape SpecialChar
hi def link qelNumber Number
hi def link qelHex Number
hi def link qelSeparator Delimiter
hi def link qelOperator Operator
hi def link qelBracket Delimiter
hi def link qelParen Delimiter
hi def link qelBrace Delimiter
hi def link qelIncludeDirective Include
hi def link qelIncludeName String
hi def link qelDefineDirective Define
hi def link qelDefineName Macro
hi def link qelDefineValue Constant
hi def link qelIfdefDirective PreCondit
hi def link qelIfdefName Macro
hi def link qelElseDirective PreCondit
hi def link qelConditional Conditional
hi def link qelLogical Operator
hi def link qelComparison Operator
hi def link qelVariable Identifier
