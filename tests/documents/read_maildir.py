"""Prints the messages of a Maildir as JSON, decoded by Python's own mail parser."""
import base64
import email
import json
import mailbox
import sys
from email import policy

box = mailbox.Maildir(sys.argv[1], factory=None, create=False)
out = []
for key in sorted(box.keys()):
    with box.get_file(key) as f:
        msg = email.message_from_binary_file(f, policy=policy.default)
    body = msg.get_body(preferencelist=('plain',))
    text = body.get_content() if body is not None else ''
    out.append({
        'rcpt': [str(v) for v in msg.get_all('X-RcptTo', [])],
        'headers': [k for k in msg.keys()],
        'to': str(msg.get('To', '')),
        'cc': str(msg.get('Cc', '')),
        'subject': str(msg.get('Subject', '')),
        'text': text.replace('\r\n', '\n'),
        'attachments': [{
            'name': p.get_filename(),
            'type': p.get_content_type(),
            'data': base64.b64encode(p.get_payload(decode=True)).decode('ascii'),
        } for p in msg.iter_attachments()],
    })
print(json.dumps(out))
