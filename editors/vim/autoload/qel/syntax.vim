" Patterns for the DAF and IPF syntax files, built from the languages' word
" rules: white space and the delimiters , ? ; : [ ] { } | + - = ( ) * end a
" word; an apostrophe starts a quoted string where a word would start, and
" belongs to the word anywhere else.

" Inside a collection: the minus first, where it cannot form a range.
let s:delimiters = '- \t,?;:[\]{}|+=()*'

" Where a token may start: at no ordinary character.
function! qel#syntax#Start() abort
  return '\%([^' . s:delimiters . "']\\)\\@1<!"
endfunction

" Where a word ends: at white space, a delimiter or the line's end.
function! qel#syntax#End() abort
  return '\%([' . s:delimiters . ']\|$\)\@='
endfunction

" A whole word.
function! qel#syntax#Word() abort
  return '[^' . s:delimiters . "']" . qel#syntax#WordRest()
endfunction

" The rest of a word, from any character on.
function! qel#syntax#WordRest() abort
  return '[^' . s:delimiters . ']*'
endfunction

" A whole word that is one of the given words (letter case is set by the
" syntax file's :syntax case).
function! qel#syntax#Words(words) abort
  return qel#syntax#Start() . '\%(' . join(a:words, '\|') . '\)' . qel#syntax#End()
endfunction

" :syntax match GROUP /PATTERN/ ARGUMENTS..., with a delimiter that no pattern uses.
function! qel#syntax#Match(group, pattern, ...) abort
  execute 'syntax match' a:group '`' . a:pattern . '`' join(a:000)
endfunction
