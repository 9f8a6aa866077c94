SoftIPCategory {
  1 : Glue = 'Glue logic'
}
