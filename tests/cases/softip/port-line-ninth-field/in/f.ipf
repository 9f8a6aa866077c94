X { Input : { a : b : c : d : 1 : 2 : t : u : v ; } }
