" Vim syntax file for DAF device sources: Device NAME, then sections, each a
" keyword and a body in braces.
if exists('b:current_syntax')
  finish
endif

runtime! syntax/qel.vim
unlet! b:current_syntax

let s:start = qel#syntax#Start()
let s:end = qel#syntax#End()
let s:punctuation = 'qelSeparator,qelOperator,qelBracket,qelParen,qelBrace'

" The top: Device and its name, the section keywords.
call qel#syntax#Match('dafDevice', qel#syntax#Words(['Device']),
      \ 'nextgroup=dafDeviceName skipwhite')
call qel#syntax#Match('dafDeviceName', qel#syntax#Word(), 'contained')
call qel#syntax#Match('dafSection', qel#syntax#Words(['PinNumberByPackage', 'Alias',
      \ 'Extensions', 'TypeCategory', 'TypeShortHand', 'Initialize', 'DesignProlog',
      \ 'DesignEpilog', 'Group', 'OutputSyntax', 'Pin', 'TypeConversion',
      \ 'DeviceSpecificInfoTable', 'DeviceSpecificInfo', 'HardwareSupportTable',
      \ 'HardwareSupport', 'PackageInfoTable', 'VoltageRangeTable', 'TemplateLink',
      \ 'CCodeFileName', 'CCodeExample', 'QelConfig', 'MemoryMap']))

" StringQuote: free text for other tools, skipped up to the matching brace, so
" no keyword counts inside.
call qel#syntax#Match('dafSection', qel#syntax#Words(['StringQuote']),
      \ 'nextgroup=dafFreeText skipwhite skipempty skipnl')
execute 'syntax region dafFreeText matchgroup=qelBrace start="{" end="}" contained'
      \ 'contains=@qelLexical,dafFreeTextBraces,qelNumber,qelHex,qelWord,' . s:punctuation
execute 'syntax region dafFreeTextBraces matchgroup=qelBrace start="{" end="}" contained'
      \ 'contains=@qelLexical,dafFreeTextBraces,qelNumber,qelHex,qelWord,' . s:punctuation

" A section body.
execute 'syntax region dafBlock matchgroup=qelBrace start="{" end="}" contains=@dafBody'
call qel#syntax#Match('dafElse', qel#syntax#Words(['else']), 'contained')
call qel#syntax#Match('dafAlways', qel#syntax#Words(['Always']), 'contained')
call qel#syntax#Match('dafStatement', qel#syntax#Words(['PTerm', 'Decl', 'Equation',
      \ 'PropertyTab', 'DefaultSigName', 'DeclWOPinNum', 'DeclWithPinNum', 'DeclWOMainFlash',
      \ 'DeclWMainFlash', 'Equation_Req', 'Action']), 'contained')
call qel#syntax#Match('dafRev', qel#syntax#Words(['rev']), 'contained')
" A reserved pin: any word that starts with RSV.
call qel#syntax#Match('dafReserved', s:start . 'rsv' . qel#syntax#WordRest(), 'contained')
" Initialize: pin.attribute.
let s:attribute = '\%(name\|nchange\|PinEdit\|reserve\|displayname\)' . s:end
call qel#syntax#Match('dafPin', s:start . qel#syntax#Word() . '\ze\.' . s:attribute,
      \ 'contained nextgroup=dafAccessor')
syntax match dafAccessor "\." contained nextgroup=dafAttribute
call qel#syntax#Match('dafAttribute', s:attribute, 'contained')

" Conditions: When ... : before a block of rows, if / else if in Pin bodies (no
" colon: the condition ends with its line).
execute 'syntax region dafWhen matchgroup=qelConditional start="' . qel#syntax#Words(['When']) . '"'
      \ 'matchgroup=qelSeparator end=":" matchgroup=NONE end="\ze[{}]" contained'
      \ 'contains=@qelConditionItems'
execute 'syntax region dafIf matchgroup=qelConditional'
      \ 'start="' . s:start . '\%(else[ \t]\+\)\=if' . s:end . '"'
      \ 'end="$" end="\ze[:{}]" contained contains=@qelConditionItems'

execute 'syntax cluster dafBody contains=@qelLexical,dafWhen,dafIf,dafElse,dafAlways,'
      \ . 'dafStatement,dafRev,dafReserved,dafPin,dafBlock,qelNumber,qelHex,qelWord,' . s:punctuation

hi def link dafDevice Statement
hi def link dafDeviceName Type
hi def link dafSection Statement
hi def link dafElse Conditional
hi def link dafAlways Conditional
hi def link dafStatement Keyword
hi def link dafRev StorageClass
hi def link dafReserved Constant
hi def link dafPin Identifier
hi def link dafAccessor Delimiter
hi def link dafAttribute Type

let b:current_syntax = 'daf'
