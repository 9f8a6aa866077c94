" Settings for DAF buffers: // comments, brackets, directives.
if exists('b:did_ftplugin')
  finish
endif
let b:did_ftplugin = 1

call qel#SetUpBuffer()
