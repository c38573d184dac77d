<?php
// The upload page of the transfer tests. It reports what PHP's own multipart parser
// made of the request, one "name=value" line per item in the order received, values
// percent-encoded so that the answer stays ASCII. When the environment names a folder
// in QORVA_UPLOAD_STORE, each uploaded file is kept there under its field name.
//
// ?answer=fail answers 500, ?answer=empty 200 with an empty body, ?answer=big&size=N
// N bytes of digits, ?answer=discard a short line only.

$answer = $_GET['answer'] ?? 'report';
if ($answer === 'fail') {
    http_response_code(500);
    echo "server error";
    exit;
}
if ($answer === 'empty') {
    exit;
}
if ($answer === 'big') {
    $size = (int)($_GET['size'] ?? 0);
    echo substr(str_repeat('0123456789', intdiv($size, 10) + 1), 0, $size);
    exit;
}
if ($answer === 'discard') {
    $f = $_FILES['file1'] ?? null;
    echo $f ? "size=" . $f['size'] . " error=" . $f['error'] : "no file";
    exit;
}

header('Content-Type: text/plain');
$lines = [];
$lines[] = 'method=' . rawurlencode($_SERVER['REQUEST_METHOD']);
$lines[] = 'protocol=' . rawurlencode($_SERVER['SERVER_PROTOCOL']);
$lines[] = 'uri=' . rawurlencode($_SERVER['REQUEST_URI']);
$lines[] = 'agent=' . rawurlencode($_SERVER['HTTP_USER_AGENT'] ?? '');
$lines[] = 'accept=' . rawurlencode($_SERVER['HTTP_ACCEPT'] ?? '');
$lines[] = 'type=' . rawurlencode($_SERVER['CONTENT_TYPE'] ?? '');
foreach ($_POST as $name => $value) {
    $lines[] = 'field.' . rawurlencode($name) . '=' . rawurlencode($value);
}
$store = getenv('QORVA_UPLOAD_STORE');
foreach ($_FILES as $name => $file) {
    $lines[] = 'file.' . rawurlencode($name) . '.name=' . rawurlencode($file['name']);
    $lines[] = 'file.' . rawurlencode($name) . '.error=' . $file['error'];
    $lines[] = 'file.' . rawurlencode($name) . '.size=' . $file['size'];
    if ($store !== false && $file['error'] === UPLOAD_ERR_OK) {
        move_uploaded_file($file['tmp_name'], $store . '/' . basename($name));
    }
}
echo implode("\n", $lines), "\n";
