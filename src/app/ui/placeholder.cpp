// Qt shell
