M { Output : { a : b : c : d : ; } Output : { e : f : g : h : 1 ; } }
M { }
