SoftIPCategory { }
X { }
