Timer {
  Output : { q : wire : out : 1 : 0 : 0 : hi : extra ; }
}
