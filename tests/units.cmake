# Each line: lumetta_test(<Unit> <libraries>); keep sorted by folder.
lumetta_test(DateTime lumetta_common)
lumetta_test(Subs lumetta_common)
lumetta_test(Registry lumetta_platform)
lumetta_test(Platform lumetta_platform)
lumetta_test(CamRecord lumetta_catalogue)
lumetta_test(CatalogueFile lumetta_catalogue)
lumetta_test(DebugLog lumetta_download)
lumetta_test(Catalogue lumetta_catalogue)
