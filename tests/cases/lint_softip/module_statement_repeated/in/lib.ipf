Timer {
  Module : { t : 1 ; }
  Module : { u : 2 ; }
}
