"""The container check both XLS checkers make with an independent reader
(olefile): a written file must be a compound file with a "Workbook" stream
whose size is a multiple of 512."""
import olefile


def container_problems(path):
    """None when `path` is no compound file, else the list of problems."""
    if not olefile.isOleFile(path):
        return None
    problems = []
    with olefile.OleFileIO(path) as ole:
        if not ole.exists("Workbook"):
            problems.append("no Workbook stream: %s" % ole.listdir())
        elif ole.get_size("Workbook") % 512:
            problems.append("Workbook stream size %d is not a multiple of 512" % ole.get_size("Workbook"))
    return problems
