" Vim syntax file for IPF soft-IP libraries: SoftIPCategory sections and
" modules, each a name and a body in braces.
if exists('b:current_syntax')
  finish
endif

runtime! syntax/qel.vim
unlet! b:current_syntax

let s:punctuation = 'qelSeparator,qelOperator,qelBracket,qelParen,qelBrace'

" Any word at the top starts a module of that name, except SoftIPCategory.
call qel#syntax#Match('ipfModuleName', qel#syntax#Start() . qel#syntax#Word(),
      \ 'nextgroup=ipfModuleBody skipwhite skipempty skipnl')
call qel#syntax#Match('ipfSection', qel#syntax#Words(['SoftIPCategory']),
      \ 'nextgroup=ipfCategoryBody skipwhite skipempty skipnl')

" Category numbers may have a fraction.
call qel#syntax#Match('ipfFloat', qel#syntax#Start() . '\%(\d\+\.\d*\|\.\d\+\)' . qel#syntax#End(),
      \ 'contained')
execute 'syntax region ipfCategoryBody matchgroup=qelBrace start="{" end="}" contained'
      \ 'contains=@qelLexical,ipfFloat,qelNumber,qelWord,' . s:punctuation

" A module body: blocks, each keyword recognised by its start (Inputs opens an
" Input block), then braces holding lines, macros and their statement lines.
call qel#syntax#Match('ipfBlockKeyword', qel#syntax#Start()
      \ . '\%(Module\|Input\|Output\|Declaration\|BusExtName\|Macro\|Equation\)'
      \ . qel#syntax#WordRest(), 'contained')
execute 'syntax region ipfModuleBody matchgroup=qelBrace start="{" end="}" contained'
      \ 'contains=@qelLexical,ipfBlockKeyword,ipfBlock,qelNumber,qelHex,qelWord,' . s:punctuation
call qel#syntax#Match('ipfMacroName', qel#syntax#Words(['MacroName']), 'contained')
execute 'syntax region ipfMacroCondition matchgroup=qelConditional'
      \ 'start="' . qel#syntax#Words(['_when']) . '"'
      \ 'matchgroup=qelSeparator end=":" matchgroup=NONE end="\ze[{}]" contained'
      \ 'contains=@qelConditionItems'
execute 'syntax region ipfBlock matchgroup=qelBrace start="{" end="}" contained'
      \ 'contains=@qelLexical,ipfMacroCondition,ipfMacroName,ipfBlock,qelNumber,qelHex,qelWord,'
      \ . s:punctuation

hi def link ipfModuleName Type
hi def link ipfSection Statement
hi def link ipfFloat Float
hi def link ipfBlockKeyword Keyword
hi def link ipfMacroName Keyword

let b:current_syntax = 'ipf'
