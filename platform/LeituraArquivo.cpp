// Reading a file whole.
