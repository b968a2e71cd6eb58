// simulator library
