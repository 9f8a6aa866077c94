" DAF device sources and IPF soft-IP libraries. Include files have no
" extension of their own: see docs/editors.md to read them as either.
autocmd BufNewFile,BufRead *.daf setfiletype daf
autocmd BufNewFile,BufRead *.ipf setfiletype ipf
