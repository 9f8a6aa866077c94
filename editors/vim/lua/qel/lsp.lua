-- Starts qel-language-server in Neovim's built-in client for DAF and IPF
-- buffers (Neovim 0.7 or later):
--
--   require('qel.lsp').setup()                       -- the server on the PATH
--   require('qel.lsp').setup({ cmd = { '/opt/qelc/bin/qel-language-server' },
--                              root = '/path/to/project' })
--
-- Includes are resolved as qelc resolves them when run in the root folder:
-- `root`, else the working directory Neovim was started in.
local M = {}

local clients = {} -- a client per root folder, shared by its buffers

function M.attach(buffer, options)
  options = options or {}
  local root = options.root or vim.fn.getcwd()
  local id = clients[root]
  if not id or not vim.lsp.get_client_by_id(id) then
    id = vim.lsp.start_client({
      name = 'qel-language-server',
      cmd = options.cmd or { 'qel-language-server' },
      root_dir = root,
      init_options = options.init_options,
    })
    clients[root] = id
  end
  if id then
    vim.lsp.buf_attach_client(buffer, id)
  end
  return id
end

function M.setup(options)
  vim.api.nvim_create_autocmd('FileType', {
    pattern = { 'daf', 'ipf' },
    callback = function(event)
      M.attach(event.buf, options)
    end,
  })
end

return M
