" Loads editors/vim into a headless Neovim or Vim, opens the examples and a
" few tricky texts, and checks the file type, the buffer settings and the
" syntax group at chosen places. Writes the failures to the file named by
" $QEL_VIM_TEST_OUT, one per line, and "done" last.
set nocompatible
let s:vim_dir = fnamemodify(expand('<sfile>:p'), ':h:h')
let s:repository = fnamemodify(s:vim_dir, ':h:h')
let &runtimepath = s:vim_dir . ',' . &runtimepath
filetype plugin on
syntax on

let s:failures = []

function! s:Fail(message) abort
  call add(s:failures, expand('%:t') . ': ' . a:message)
endfunction

" The group at the first match of the pattern (at \zs where it has one).
function! s:Expect(pattern, group) abort
  call cursor(1, 1)
  if search(a:pattern, 'cW') == 0
    call s:Fail('no match for ' . a:pattern)
    return
  endif
  let name = synIDattr(synID(line('.'), col('.'), 1), 'name')
  if name !=# a:group
    call s:Fail(printf('%s at %d:%d is %s, expected %s', a:pattern, line('.'), col('.'),
          \ empty(name) ? 'nothing' : name, a:group))
  endif
endfunction

function! s:Open(path, filetype) abort
  execute 'edit!' fnameescape(a:path)
  if &filetype !=# a:filetype
    call s:Fail('file type ' . &filetype . ', expected ' . a:filetype)
  endif
endfunction

function! s:Check(cases) abort
  for [pattern, group] in a:cases
    call s:Expect(pattern, group)
  endfor
endfunction

" A text of our own, in a scratch buffer of the given file type.
function! s:Scratch(filetype, lines) abort
  enew!
  setlocal buftype=nofile
  call setline(1, a:lines)
  execute 'setfiletype' a:filetype
endfunction

call s:Open(s:repository . '/examples/device.daf', 'daf')
if &commentstring !=# '// %s' || &comments !=# '://'
  call s:Fail('comment settings: ' . &commentstring . ' ' . &comments)
endif
call s:Check([
      \ ['^// A small', 'qelComment'],
      \ ['^Device', 'dafDevice'],
      \ ['^Device \zsQX100', 'dafDeviceName'],
      \ ['^StringQuote', 'dafSection'],
      \ ["'QX100 evaluation device' { \\zsrevision", 'qelWord'],
      \ ['^PinNumberByPackage', 'dafSection'],
      \ ['^  \zsWhen PACKAGE', 'qelConditional'],
      \ ['When \zsPACKAGE', 'qelVariable'],
      \ ['When PACKAGE \zsis', 'qelComparison'],
      \ ["When PACKAGE is \\zs'LQFP48'", 'qelString'],
      \ ["When PACKAGE is 'LQFP48' \\zs:", 'qelSeparator'],
      \ ['\zsLQFP48 : 1 :', 'qelWord'],
      \ ['LQFP48 : \zs1 :', 'qelNumber'],
      \ ['\<RSV\>', 'dafReserved'],
      \ ['DEV \zsisin \[', 'qelComparison'],
      \ ["isin \\zs\\['QX100'", 'qelBracket'],
      \ ["'UFBGA64' \\zsand DEV", 'qelLogical'],
      \ ['\zsP7\.name', 'dafPin'],
      \ ['P7\zs\.name', 'dafAccessor'],
      \ ['P7\.\zsnchange', 'dafAttribute'],
      \ ['IoType \zs=', 'qelOperator'],
      \ ['^  \zsAlways :', 'dafAlways'],
      \ ['\zsPTerm :', 'dafStatement'],
      \ ['Equation, \zsrev', 'dafRev'],
      \ ['OSC_IN : 1 \zs|', 'qelOperator'],
      \ ['Drive : \zs4mA', 'qelWord'],
      \ ['^    \zsif PACKAGE', 'qelConditional'],
      \ ["if PACKAGE is 'LQFP48'\\n\\s*\\zsIoType", 'qelWord'],
      \ ['^    \zselse if', 'qelConditional'],
      \ ["ISTYPE \\zs\\\\'reg", 'qelEscape'],
      \ ['\zs0x00001000', 'qelHex'],
      \ ['^MemoryMap {\n  Always :\n  \zs{', 'qelBrace'],
      \ ])

call s:Open(s:repository . '/examples/cmake-project/devices/qx200.daf', 'daf')
call s:Check([
      \ ['^#include', 'qelIncludeDirective'],
      \ ['^#include \zscommon', 'qelIncludeName'],
      \ ])

call s:Open(s:repository . '/examples/library.ipf', 'ipf')
call s:Check([
      \ ['^SoftIPCategory', 'ipfSection'],
      \ ['\zs2\.5 :', 'ipfFloat'],
      \ ["^  \\zs2 : Serial", 'qelNumber'],
      \ ['^Uart', 'ipfModuleName'],
      \ ['^  \zsModule :', 'ipfBlockKeyword'],
      \ ['^  \zsBusExtName', 'ipfBlockKeyword'],
      \ ['\zsUART_TX', 'qelWord'],
      \ ['^    \zsMacroName', 'ipfMacroName'],
      \ ['\zs_when', 'qelConditional'],
      \ ['_when \zsPACKAGE', 'qelVariable'],
      \ ['( \zsPN \[3', 'qelVariable'],
      \ ["'B'\\] ) \\zs:", 'qelSeparator'],
      \ [": \\zs'tx <= shift", 'qelString'],
      \ ['^Timer', 'ipfModuleName'],
      \ ])

call s:Scratch('daf', [
      \ 'Device QX10 // a comment after the name',
      \ '#includes "pins.inc" and words that are ignored',
      \ '#define PKG ''LQFP48''',
      \ '  #IFNDEF PKG',
      \ 'Alias {',
      \ '  When PACKAGE is PKG :',
      \ '    abc//def : ''x'',it''s : ''y''// a comment right after a string',
      \ '    ''a string',
      \ '#define INSIDE_A_STRING 1',
      \ 'over lines'' : PA0,',
      \ '    is : and',
      \ '}',
      \ 'StringQuote { Alias { When PACKAGE } }',
      \ ])
call s:Check([
      \ ['QX10 \zs//', 'qelComment'],
      \ ['^#includes', 'qelIncludeDirective'],
      \ ['#includes \zs"pins', 'qelIncludeName'],
      \ ['"pins.inc" \zsand', 'qelDirectiveLine'],
      \ ['#define \zsPKG', 'qelDefineName'],
      \ ["#define PKG \\zs'", 'qelDefineValue'],
      \ ['#IFNDEF \zsPKG', 'qelIfdefName'],
      \ ['\zsabc//def', 'qelWord'],
      \ ['abc\zs//def', 'qelWord'],
      \ ["it\\zs's", 'qelWord'],
      \ ["'y'\\zs//", 'qelComment'],
      \ ['^#define INSIDE', 'qelDefineDirective'],
      \ ['^over', 'qelString'],
      \ ['^    \zsis : and', 'qelWord'],
      \ ['StringQuote { \zsAlias', 'qelWord'],
      \ ['StringQuote { Alias { \zsWhen', 'qelWord'],
      \ ])

call s:Scratch('ipf', [
      \ 'Counter {',
      \ '  Inputs : { clk : wire : in : 1 : ; }',
      \ '  macros : { MACRONAME ( ) { _when IN_NUM [ 2 ] isnot ''1'' : ''x'' } }',
      \ '}',
      \ ])
call s:Check([
      \ ['^  \zsInputs', 'ipfBlockKeyword'],
      \ ['\zsmacros', 'ipfBlockKeyword'],
      \ ['\zsMACRONAME', 'ipfMacroName'],
      \ ['_when \zsIN_NUM', 'qelVariable'],
      \ ['\] \zsisnot', 'qelComparison'],
      \ ])

call writefile(s:failures + ['done'], $QEL_VIM_TEST_OUT)
qall!
