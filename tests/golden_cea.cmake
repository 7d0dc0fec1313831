# golden reports of TV EDIDs with CEA extensions
