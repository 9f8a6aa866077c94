-- Neovim as the language server's client: run by neovim_test.sh as
--   nvim --headless -u NONE -c "luafile neovim_test.lua"
-- with QEL_SERVER, QEL_EDITORS (the editors/vim folder) and QEL_WORK (a
-- scratch folder) in the environment. Ends Neovim with status 0 when every
-- check holds, else prints the first that failed and ends with status 1.

local server = os.getenv('QEL_SERVER')
local work = os.getenv('QEL_WORK')
vim.opt.runtimepath:prepend(os.getenv('QEL_EDITORS'))

local function fail(message)
  io.stderr:write('neovim_test: ' .. message .. '\n')
  vim.cmd('cquit 1')
end

local function check(condition, message)
  if not condition then
    fail(message)
    error(message)
  end
end

local ok, problem = pcall(function()
  local path = work .. '/dev.daf'
  local file = io.open(path, 'w')
  file:write("Device QX1\nAlias {\n  When PAKAGE is 'LQFP48' :\n    SWDIO : 'PA13'\n}\n")
  file:close()

  require('qel.lsp').setup({ cmd = { server }, root = work })
  vim.cmd('edit ' .. path)
  vim.bo.filetype = 'daf' -- the filetype plugin is not loaded under -u NONE
  local buffer = vim.api.nvim_get_current_buf()

  -- The mistake in the source, at its line and column.
  check(vim.wait(10000, function() return #vim.diagnostic.get(buffer) > 0 end, 20),
        'no diagnostics for the source with a mistake')
  local found = vim.diagnostic.get(buffer)
  check(#found == 1, 'expected one diagnostic, got ' .. #found)
  check(found[1].lnum == 2 and found[1].col == 7,
        'diagnostic at ' .. found[1].lnum .. ':' .. found[1].col .. ', expected 2:7')
  check(found[1].message:find('unknown condition variable PAKAGE', 1, true),
        'unexpected message: ' .. found[1].message)
  check(found[1].source == 'qellint', 'source ' .. tostring(found[1].source))

  -- Hover on the section keyword.
  local answers = vim.lsp.buf_request_sync(buffer, 'textDocument/hover', {
    textDocument = { uri = vim.uri_from_bufnr(buffer) },
    position = { line = 1, character = 2 },
  }, 5000)
  local text
  for _, answer in pairs(answers or {}) do
    text = answer.result and answer.result.contents.value
  end
  check(text and text:find('Other names of pins', 1, true), 'hover: ' .. tostring(text))
  check(text:find('100 rows per block', 1, true), 'hover without capacity: ' .. text)

  -- The mistake fixed in the buffer (not saved): the diagnostics go away.
  vim.api.nvim_buf_set_lines(buffer, 2, 3, true, { "  When PACKAGE is 'LQFP48' :" })
  check(vim.wait(10000, function() return #vim.diagnostic.get(buffer) == 0 end, 20),
        'the diagnostics stayed after the fix')
end)

if not ok then
  fail(tostring(problem))
else
  io.stdout:write('neovim_test: diagnostics, hover and the fix all seen\n')
  vim.cmd('qall!')
end
