X { Input : { a : b : abcdefghijkl : d : ; } }
